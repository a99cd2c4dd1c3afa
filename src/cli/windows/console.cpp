#include "cli/windows/console.h"

#include <windows.h>

#include <QString>
#include <algorithm>
#include <cstdio>

namespace discstart {

std::optional<bool> WriteToConsole(StandardStream stream, const QByteArray& utf8) {
    const HANDLE handle =
        ::GetStdHandle(stream == StandardStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    // Only a console has a console mode: a file or a pipe, redirected, takes the bytes.
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !::GetConsoleMode(handle, &mode))
        return std::nullopt;
    // What the C library still holds goes first, so the lines keep their order.
    std::fflush(stream == StandardStream::Out ? stdout : stderr);
    const std::wstring text = QString::fromUtf8(utf8).toStdWString();
    // A console takes a limited amount per call on older systems: a few thousand characters at a time.
    constexpr std::size_t Chunk = 8192;
    for (std::size_t done = 0; done < text.size();) {
        DWORD count = DWORD(std::min(Chunk, text.size() - done));
        // Never split a surrogate pair between two calls.
        if (done + count < text.size() && IS_HIGH_SURROGATE(text[done + count - 1])) --count;
        DWORD written = 0;
        if (!::WriteConsoleW(handle, text.data() + done, count, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace discstart
