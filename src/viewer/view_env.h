#pragma once

// The nine process-wide view settings (section View_Env of NERIDAL.INI).
// The shell reads them once when the main frame is created and writes them at
// exit; document windows read them when they are created.
struct ViewEnv {
    bool treePanel = true;
    int treeWidth = 0;
    bool formMaximized = true;
    int formWidth = 0;
    int formHeight = 0;
    int zoomIndex = 1;
    bool pageScroll = true;
    bool toolBar = true;
    bool statusBar = true;
};

// The process's one set of view settings.
ViewEnv& ViewEnvironment();
