#pragma once

#include <QString>

#include "page/page_view.h"

namespace discstart {

// What each engine's test program supplies to the tests both engines share.
// The engine's own view, made directly (not through the program's loader).
PageView* CreateTestedView(QWidget* parent);
// Whether the engine runs the page's scripts.
bool EngineRunsScripts();
// The title of the shown document.
QString PageTitle(PageView& view);
// Whether the image with id "cover" is shown with its real width.
bool CoverImageShown(PageView& view);
// Activates the first link whose href attribute is exactly `href`, as a user would.
void ClickLink(PageView& view, const QString& href);

}  // namespace discstart
