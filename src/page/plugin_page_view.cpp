#include "page/plugin_page_view.h"

#include <QCoreApplication>
#include <QVBoxLayout>
#include <utility>

#include "content/app_path.h"
#include "content/native_name.h"
#include "page/text_page_view.h"
#include "page/web_engine_plugin.h"
#include "page/window_paint_watch.h"
#include "system/system.h"

namespace discstart {

namespace {

PageView* LoadWebEngineView(const QStringList& folders, QWidget* parent) {
    for (const QString& folder : folders) {
        const auto create = reinterpret_cast<WebEnginePluginFactoryFunction>(LibrarySymbol(
            NativePathBytes(folder).toStdString(), WebEnginePluginName, WebEnginePluginFactory));
        if (create != nullptr) return create(parent);
    }
    return nullptr;
}

}  // namespace

PluginPageView::PluginPageView(QStringList folders, QWidget* parent)
    : PageView(parent), folders_(std::move(folders)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    new WindowPaintWatch(this, [this] { loadEngine(); });
}

void PluginPageView::loadEngine() {
    // A launcher on a Qt of its own (a disc's) takes the library from its own folder alone, where
    // it comes with that Qt's WebEngine; one built against the machine's Qt would load a second Qt.
    engine_ =
        LoadWebEngineView(RunsOnMachineQt() ? folders_ : QStringList{QtPath(ApplicationDirectory())}, this);
    if (engine_ == nullptr) engine_ = new TextPageView(this);
    layout()->addWidget(engine_);
    // By name: the library's PageView is its own copy of ours, not the same class to Qt.
    connect(engine_, SIGNAL(loadFinished(bool)), this, SIGNAL(loadFinished(bool)));
    engine_->setOffline(offline_);
    if (navigated_) engine_->navigate(path_);
}

void PluginPageView::setOffline(bool offline) {
    offline_ = offline;
    if (engine_ != nullptr) engine_->setOffline(offline);
}

bool PluginPageView::setDesignModeOff() {
    return engine_ != nullptr && engine_->setDesignModeOff();
}

void PluginPageView::navigate(const QString& path) {
    navigated_ = true;
    path_ = path;
    if (engine_ != nullptr) engine_->navigate(path);
}

QUrl PluginPageView::currentUrl() const {
    if (engine_ != nullptr) return engine_->currentUrl();
    return path_.isEmpty() ? QUrl() : LocalFileUrl(path_);
}

QString PluginPageView::engineName() const {
    return engine_ != nullptr ? engine_->engineName() : QStringLiteral("WebEngine");
}

QStringList WebEnginePluginFolders() {
    QStringList folders = {QtPath(ApplicationDirectory())};
#ifdef DISCSTART_WEBENGINE_PLUGIN_DIR
    folders.append(QStringLiteral(DISCSTART_WEBENGINE_PLUGIN_DIR));
#endif
    return folders;
}

bool IsMachineQt(const QByteArray& qtCore, const QByteArray& programFolder) {
    if (qtCore.isEmpty() || programFolder.isEmpty()) return true;
    const QByteArray inside = programFolder.endsWith('/') ? programFolder : programFolder + '/';
    return !qtCore.startsWith(inside);
}

bool RunsOnMachineQt() {
    const std::string real = DiskFiles().realPath(ApplicationDirectory()).value_or(std::string());
    return IsMachineQt(QByteArray::fromStdString(LoadedFrom(reinterpret_cast<const void*>(&qVersion))),
                       QByteArray::fromStdString(real));
}

}  // namespace discstart
