#pragma once

#include <QByteArray>

namespace discstart {

// Moves the test program into a network namespace of its own with loopback and one link
// that holds the default route, so the kernel counts every packet the program and the
// engine's processes send, wherever it was meant to go. Call first thing in main, before any
// thread exists. Needs root; without it nothing changes and false comes back.
bool EnterPrivateNetwork();
bool InPrivateNetwork();
// Packets sent so far on every interface of the program's namespace.
qint64 PacketsSent();
// The kernel's table of the namespace's interfaces, for a failure message.
QByteArray InterfaceCounters();

}  // namespace discstart
