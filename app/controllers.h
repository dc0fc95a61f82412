#pragma once

class MainWindow;

// Creates the feature controllers that give the main window's commands their
// meaning; each one is parented to the window.
void installControllers(MainWindow &window);
