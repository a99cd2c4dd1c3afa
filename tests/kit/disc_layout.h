#pragma once

// Where a disc made by make-disc keeps Qt: the machine's own tree under qt/.
#define QT_LIBS "qt/lib/x86_64-linux-gnu"
#define QT_PLUGINS QT_LIBS "/qt6/plugins"
