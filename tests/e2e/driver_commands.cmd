@echo off
rem krt-flash's driver commands in a fresh prefix: missing, installed from the embedded package, present.
rem With "small": the install into a temporary folder too small for the package (KRT_SMALL_TEMP, a tmpfs
rem of a few KiB that wine-run.sh mounts): refused with the design's message, and nothing left there.
if "%2"=="small" goto small
%1 --check-driver
if not errorlevel 11 exit /b 1
%1 --install-driver
if errorlevel 1 exit /b 2
%1 --check-driver
if errorlevel 1 exit /b 3
echo driver commands: all three as expected
exit /b 0

:small
if "%KRT_SMALL_TEMP%"=="" (
    echo skip: no small temporary folder on this system
    exit /b 0
)
set TMP=Z:%KRT_SMALL_TEMP:/=\%
set TEMP=%TMP%
%1 --install-driver 2>C:\install.err
set rc=%errorlevel%
type C:\install.err
echo exit status %rc%
dir /b /a "%TMP%" >C:\left.txt 2>nul
for %%f in (C:\left.txt) do set left=%%~zf
if not "%left%"=="0" (
    echo left in the small temporary folder:
    type C:\left.txt
    exit /b 5
)
if not "%rc%"=="11" exit /b 4
echo driver package on a small disk: refused, nothing left
exit /b 0
