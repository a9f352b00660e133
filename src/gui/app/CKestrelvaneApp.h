#pragma once

#include <QApplication>

namespace kv {

// The application object: names the settings' company key and runs the main
// window until it closes.
class CKestrelvaneApp : public QApplication {
public:
    CKestrelvaneApp(int& argc, char** argv);
    int Run();
};

} // namespace kv
