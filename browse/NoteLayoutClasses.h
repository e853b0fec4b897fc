#pragma once

// The classes of this subsystem that layout files name. The app registers them once at
// start-up, before any screen loads a file that names them.
class NoteLayoutClasses {
public:
    NoteLayoutClasses() = delete;

    static void registerAll();
};
