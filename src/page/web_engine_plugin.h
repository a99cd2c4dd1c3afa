#pragma once

#include <QWidget>

namespace discstart {

class PageView;

// The WebEngine page view lives in a library of its own, loaded once the window is on
// screen, so a start does not pay for loading Chromium's libraries first. The library is
// built from this folder together with the program: its PageView is laid out as ours.
inline constexpr const char* WebEnginePluginName = "discstart_webengine";
// extern "C" PageView* discstart_create_web_page_view(QWidget* parent)
inline constexpr const char* WebEnginePluginFactory = "discstart_create_web_page_view";
using WebEnginePluginFactoryFunction = PageView* (*)(QWidget* parent);

// Chromium refuses to start as root with its sandbox on.
void AllowWebEngineAsRoot();

}  // namespace discstart
