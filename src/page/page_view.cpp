#include "page/page_view.h"

#include <QCoreApplication>

#include "page/text_page_view.h"
#ifdef DISCSTART_HAVE_WEBENGINE
#include "page/plugin_page_view.h"
#include "page/web_engine_plugin.h"
#endif

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace discstart {

void AllowWebEngineAsRoot() {
#ifdef Q_OS_UNIX
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
#endif
}

void PreparePageEngines() {
#ifdef DISCSTART_HAVE_WEBENGINE
    AllowWebEngineAsRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
}

PageEngine DefaultPageEngine() {
#ifdef DISCSTART_DEFAULT_PAGE_ENGINE_WEBENGINE
    return PageEngine::WebEngine;
#else
    return PageEngine::Text;
#endif
}

bool PageEngineAvailable(PageEngine engine) {
    switch (engine) {
        case PageEngine::Text:
            return true;
        case PageEngine::WebEngine:
#ifdef DISCSTART_HAVE_WEBENGINE
            return true;
#else
            return false;
#endif
    }
    return false;
}

PageView* CreatePageView(PageEngine engine, QWidget* parent) {
#ifdef DISCSTART_HAVE_WEBENGINE
    if (engine == PageEngine::WebEngine) return new PluginPageView(WebEnginePluginFolders(), parent);
#else
    (void)engine;
#endif
    return new TextPageView(parent);
}

}  // namespace discstart
