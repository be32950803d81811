#include "platform/drop_files.h"

#include <QWidget>

#include <algorithm>
#include <cstring>

#include "platform/window.h"
#include "platform/window_internal.h"

struct HDROP__ {
    std::vector<std::string> paths;
    POINT point;
};

void DragAcceptFiles(HWND window, BOOL accept) {
    if (QWidget* widget = WidgetOfWindow(window))
        widget->setAcceptDrops(accept != FALSE);
}

UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size) {
    if (!drop)
        return 0;
    if (index == DragFileCount)
        return static_cast<UINT>(drop->paths.size());
    if (index >= drop->paths.size())
        return 0;
    const std::string& path = drop->paths[index];
    if (buffer && size > 0) {
        const std::size_t copied = std::min<std::size_t>(path.size(), size - 1);
        std::memcpy(buffer, path.data(), copied);
        buffer[copied] = '\0';
    }
    return static_cast<UINT>(path.size());
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
    if (!drop || !point)
        return FALSE;
    *point = drop->point;
    return TRUE;
}

void DragFinish(HDROP) {}

LRESULT SendDroppedFiles(HWND window, const std::vector<std::string>& paths, POINT client) {
    HDROP__ drop{paths, client};
    return SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(&drop), 0);
}
