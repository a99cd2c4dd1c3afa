#pragma once

#include <QByteArray>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>

#include "page/page_view.h"

namespace discstart {

// Listens on 127.0.0.1 and serves nothing; it only counts who knocked.
class ConnectionCounter {
  public:
    ConnectionCounter();
    quint16 port() const { return server_.serverPort(); }
    QString url(const QString& name) const;
    int connections();

  private:
    QTcpServer server_;
    int count_ = 0;
};

// A disc folder beside a folder the page must never read, with a page that tries every way
// out: sub-resources, scripts' reads, links, WebRTC with STUN and TURN servers, WebTransport,
// WebSocket, pre-connects and name look-ups, against a UDP and a TCP listener on loopback and
// against files outside (by "..", by absolute path, through links that lead out, in a sibling
// folder sharing its name as a prefix) and hidden inside it. Scripts report into the title:
// "done" and what each read got.
class LeakSite {
  public:
    LeakSite();
    ~LeakSite();

    QString pagePath() const;
    // The folder the page must not read.
    QString outsidePath() const;
    // Packets sent on any interface since the site was made (-1 where they cannot be counted),
    // and what reached the listeners.
    qint64 packetsSent() const;
    int datagrams() const { return datagrams_; }
    int connections() const { return connections_; }
    QByteArray received() const { return received_; }
    // Opens and reads of anything outside the folder or hidden in it, as the kernel saw them.
    int outsideReads();

  private:
    void write(const QString& path, const QByteArray& bytes) const;

    QTemporaryDir dir_;
    QUdpSocket udp_;
    QTcpServer tcp_;
    int datagrams_ = 0;
    int connections_ = 0;
    QByteArray received_;
    qint64 packetsAtStart_ = 0;
    int watch_ = -1;
    int outsideReads_ = 0;
};

// Waits until the leak page's scripts are done and returns its title ("done {...}"); an
// engine without scripts gets a moment instead.
QString WaitForLeakPage(PageView& view);

}  // namespace discstart
