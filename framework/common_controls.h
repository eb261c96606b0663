#pragma once
// Registers the window classes of the common controls the program's dialogs hold (progress bar,
// status bar) and of the rich edit 2.0 control. Call once before the first dialog is made.
bool RegisterControlClasses();
