#include "app/tool_app.h"

int main(int argc, char** argv)
{
    CToolApp app(argc, argv);
    app.InitInstance();
    return 0;
}
