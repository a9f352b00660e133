#pragma once

#include <QApplication>

namespace kv {

// The application object: names the settings' company key and runs the main
// window until it closes. A design named on the command line is opened
// instead of the last file.
class CKestrelvaneApp : public QApplication {
public:
    CKestrelvaneApp(int& argc, char** argv);
    int Run();
};

} // namespace kv
