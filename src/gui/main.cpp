#include "app/CKestrelvaneApp.h"

int main(int argc, char** argv) {
    kv::CKestrelvaneApp app(argc, argv);
    return app.Run();
}
