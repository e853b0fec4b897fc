#include "shell/brevumAppDelegate.h"

#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "appbase/CommonUtil.h"
#include "browse/NoteLayoutClasses.h"
#include "shell/RootViewController.h"

std::shared_ptr<brevumAppDelegate> brevumAppDelegate::create()
{
    return std::shared_ptr<brevumAppDelegate>(new brevumAppDelegate());
}

bool brevumAppDelegate::didFinishLaunching(ui::Application&)
{
    NoteLayoutClasses::registerAll();
    m_window = ui::Window::create(ui::Screen::main().bounds());
    m_window->setBackgroundColor(ui::Color::white());
    m_window->makeKeyAndVisible();
    m_window->setRootViewController(RootViewController::create());
    return true;
}

void brevumAppDelegate::applicationDidEnterBackground(ui::Application&)
{
    CommonUtil::saveData();
}
