#include "page_view.h"

#include <QCoreApplication>

#include "text_page_view.h"
#ifdef DISCSTART_HAVE_WEBENGINE
#include "web_page_view.h"
#endif

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
    if (engine == PageEngine::WebEngine) return new WebPageView(parent);
#else
    (void)engine;
#endif
    return new TextPageView(parent);
}
