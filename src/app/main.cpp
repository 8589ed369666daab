#include "app/tool_app.h"
#include "framework/file_size_signal.h"

int main(int argc, char** argv)
{
    IgnoreFileSizeSignal();
    CToolApp app(argc, argv);
    app.InitInstance();
    return 0;
}
