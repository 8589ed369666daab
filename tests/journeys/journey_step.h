#pragma once

#include <QString>

// One thing the technician does, with every choice made beforehand by the
// journey's random generator, so that a step list replays exactly.
enum class Action {
    AddBmp,         // Open File with one to three BMP files (a wide one goes through the import dialog)
    AddBatch,       // Open File with many small BMP files at once
    ImportPicture,  // Open File with a PNG picture: the import dialog, OK or closed
    Select,         // click a row (with Ctrl: add it to the selection)
    DragSlider,     // a mouse drag that ends on a value
    KeySlider,      // a key on a slider (changes nothing until the next handler)
    Colour,         // one of the four colour radios
    Invert,         // the invert box
    PortSetting,    // model, interface, settings; OK, Cancel, title bar or Escape
    Remove,         // Remove the selection; the question answered
    Reset,          // Reset the list; any question answered
    Download,       // Download..: the kind's dialog, one of its actions, then closed
    Print,          // Print: the kind's print path, one of its actions, then closed
};

// How a dialog is closed.
enum class CloseBy { Button, TitleBar, Escape };

// What goes wrong at the printer during the step.
enum class Fault {
    None,
    HangUp,          // closes the connection part-way through what is sent
    HangUpLastItem,  // ... in the last item of a download
    StopsReading,    // stops reading for a while, then goes on
    Garbage,         // answers every query with garbage
    NotThere,        // switched off for the step
};

struct Step {
    Action action = Action::Select;
    Fault fault = Fault::None;
    CloseBy closeBy = CloseBy::Button;
    bool answerYes = false;  // every question of the step
    int a = 0;               // row, control, count, model index, dialog action ...
    int b = 0;               // value, key, interface index, density ...
    int c = 0;               // modifiers, size, OK, the tick a close comes at (0: none) ...
    double at = 0;           // where in the bytes a fault strikes, 0..1

    QString Describe() const;
};
