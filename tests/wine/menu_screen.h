// What the menu window must show, drawn from the committed pictures in res/,
// shared by the Wine cases.
#pragma once

#include "harness.h"

#include <map>
#include <string>

namespace winetest {

// The dialog template at 96 DPI: a 632x478 client inside a 3-pixel modal
// frame.
constexpr int FRAME = 3;
constexpr int CLIENT_WIDTH = 632, CLIENT_HEIGHT = 478;
constexpr int OUTER_WIDTH = CLIENT_WIDTH + 2 * FRAME, OUTER_HEIGHT = CLIENT_HEIGHT + 2 * FRAME;
constexpr int BUTTON_WIDTH = 128, BUTTON_HEIGHT = 96;

enum { PLAY, INSTALL, UNINSTALL, EXIT, BUTTON_COUNT, NONE = -1 };

struct Button {
    const char *name;
    int left, top;   // client coordinates, where the picture is drawn
    const char *unavailable, *normal, *highlighted;
};

inline const Button Buttons[BUTTON_COUNT] = {
    {"Play", 16, 346, "play_off.bmp", "play.bmp", "play_hot.bmp"},
    {"Install", 176, 346, "install.bmp", "install.bmp", "install_hot.bmp"},
    {"Uninstall", 336, 346, "uninstall_off.bmp", "uninstall.bmp", "uninstall_hot.bmp"},
    {"Exit", 488, 346, "exit.bmp", "exit.bmp", "exit_hot.bmp"},
};

// The uninstall command of the tests, in the form the menu takes apart.
inline const char *const COMMAND = "C:\\WIN\\REMOVE.EXE -aC:\\GAMES\\DEMO\\REMOVE.LOG -bC:\\GAMES\\DEMO\\EXTRA.DLL";

inline bool Available(int button, bool installed)
{
    return installed || button == INSTALL || button == EXIT;
}

inline const Image &Picture(const std::string &name)
{
    static std::map<std::string, Image> loaded;
    auto it = loaded.find(name);
    if (it == loaded.end())
        it = loaded.emplace(name, LoadResBmp(name)).first;
    return it->second;
}

// The client area as the program must show it, straight from res/.
inline Image MenuPicture(bool installed, int lit)
{
    Image client(CLIENT_WIDTH, CLIENT_HEIGHT);
    client.Paste(Picture("background.bmp"), 0, 0);
    for (int b = 0; b < BUTTON_COUNT; b++) {
        const Button &button = Buttons[b];
        const char *name = b == lit ? button.highlighted : Available(b, installed) ? button.normal : button.unavailable;
        client.Paste(Picture(name), button.left, button.top);
    }
    return client;
}

inline std::string Describe(bool installed, int lit)
{
    return std::string(installed ? "installed" : "not installed") + ", " +
           (lit == NONE ? std::string("no button lit") : std::string(Buttons[lit].name) + " lit");
}

}  // namespace winetest
