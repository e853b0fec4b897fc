#pragma once

#include <QString>

namespace core {

// NSBundle mainBundle: the application version and the resource folder.
class Bundle {
public:
    // CFBundleShortVersionString: the CMake project version.
    static QString version();
    // resourcePath: $QBANK_RESOURCES, else <application dir>/resources. No trailing slash.
    static QString resourcePath();
    static void setResourcePath(const QString& path);   // tests; empty restores the default
    // pathForResource:ofType: the file's path when it exists, else an empty string.
    // type may be given with or without its dot ("png" or ".png").
    static QString pathForResource(const QString& name, const QString& type);
};

} // namespace core
