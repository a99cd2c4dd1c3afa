// The entry point of the WebEngine page view library.
#include "web_engine_plugin.h"

#include "web_page_view.h"

extern "C" Q_DECL_EXPORT PageView* discstart_create_web_page_view(QWidget* parent) {
    return new WebPageView(parent);
}
