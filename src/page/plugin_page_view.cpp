#include "page/plugin_page_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QVBoxLayout>
#include <utility>

#ifdef Q_OS_LINUX
#include <dlfcn.h>

#include <cstdlib>
#endif

#include "content/app_path.h"
#include "content/native_name.h"
#include "page/text_page_view.h"
#include "page/web_engine_plugin.h"
#include "page/window_paint_watch.h"

namespace discstart {

namespace {

PageView* LoadWebEngineView(const QStringList& folders, QWidget* parent) {
    for (const QString& folder : folders) {
        // Never unloaded: the view it makes lives as long as the window.
#ifdef Q_OS_LINUX
        // By the folder's exact bytes, which QLibrary's file names cannot carry.
        const QByteArray file = NativePathBytes(folder) + "/lib" + WebEnginePluginName + ".so";
        void* library = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) continue;
        const auto create =
            reinterpret_cast<WebEnginePluginFactoryFunction>(::dlsym(library, WebEnginePluginFactory));
#else
        QLibrary library(QDir(folder).filePath(QString::fromLatin1(WebEnginePluginName)));
        if (!library.load()) continue;
        const auto create =
            reinterpret_cast<WebEnginePluginFactoryFunction>(library.resolve(WebEnginePluginFactory));
#endif
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
    engine_ = LoadWebEngineView(RunsOnMachineQt() ? folders_ : QStringList{ApplicationDirectory()}, this);
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
    QStringList folders = {ApplicationDirectory()};
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
#ifdef Q_OS_LINUX
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&qVersion), &info) == 0 || info.dli_fname == nullptr)
        return true;
    const auto resolved = [](const QByteArray& path) {
        char* real = ::realpath(path.constData(), nullptr);
        QByteArray bytes = real != nullptr ? QByteArray(real) : QByteArray();
        std::free(real);
        return bytes;
    };
    return IsMachineQt(resolved(info.dli_fname), resolved(NativePathBytes(ApplicationDirectory())));
#else
    return true;
#endif
}

}  // namespace discstart
