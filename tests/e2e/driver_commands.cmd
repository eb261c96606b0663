@echo off
rem krt-flash's driver commands in a fresh prefix: missing, installed from the embedded package, present.
%1 --check-driver
if not errorlevel 11 exit /b 1
%1 --install-driver
if errorlevel 1 exit /b 2
%1 --check-driver
if errorlevel 1 exit /b 3
echo driver commands: all three as expected
exit /b 0
