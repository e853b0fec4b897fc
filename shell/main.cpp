#include "platform/ui/ApplicationMain.h"
#include "shell/brevumAppDelegate.h"

int main(int argc, char** argv)
{
    return ui::applicationMain(argc, argv, [] { return brevumAppDelegate::create(); });
}
