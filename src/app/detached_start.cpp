#include "app/detached_start.h"

#include <spawn.h>
#include <vector>

// POSIX names it, but glibc declares it only under _GNU_SOURCE.
extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace discstart {

namespace {

// Owns what posix_spawn needs and frees it on every path.
struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};
    bool ready = false;

    SpawnSetup() {
        if (posix_spawn_file_actions_init(&actions) != 0) return;
        if (posix_spawnattr_init(&attributes) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            return;
        }
        ready = true;
    }
    ~SpawnSetup() {
        if (!ready) return;
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

qint64 StartDetached(const QByteArray& program, const QList<QByteArray>& arguments,
                     const QByteArray& workingDirectory) {
    SpawnSetup setup;
    if (!setup.ready) return -1;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 29))
    if (posix_spawn_file_actions_addchdir_np(&setup.actions, workingDirectory.constData()) != 0) return -1;
#else
    Q_UNUSED(workingDirectory);
#endif
    short flags = 0;
#ifdef POSIX_SPAWN_SETSID
    // The player outlives us and must not share our terminal's session.
    flags |= POSIX_SPAWN_SETSID;
#endif
    if (posix_spawnattr_setflags(&setup.attributes, flags) != 0) return -1;

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.constData()));
    for (const QByteArray& argument : arguments) argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);

    pid_t child = -1;
    if (posix_spawnp(&child, program.constData(), &setup.actions, &setup.attributes, argv.data(), environ) !=
        0)
        return -1;
    return child;
}

}  // namespace discstart
