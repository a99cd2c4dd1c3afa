// The entry point of the WebEngine page view library.
#include "page/web_engine_plugin.h"

#include "page/web_page_view.h"

namespace discstart {

extern "C" Q_DECL_EXPORT PageView* discstart_create_web_page_view(QWidget* parent) {
    return new WebPageView(parent);
}

}  // namespace discstart
