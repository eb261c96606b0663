#pragma once
// The application object: makes the main dialog, runs it modally, and the program ends with it.
class CVelmoraEUT_KRT_P940App {
public:
    // False always: the program ends when the dialog has ended.
    bool InitInstance();
};

extern CVelmoraEUT_KRT_P940App theApp;
