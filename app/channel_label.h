#pragma once
// The label above a video window: the channel's name and, while its channel
// is the selected one of two, a red mark at its left.

#include <string>

#include "ui/memory_dc.h"
#include "ui/wnd.h"

inline constexpr const char* kChannelLabelClass = "___ChannelLabelCtrl_Class__";

enum class TLabelMark { Plain, Selected };

class TChannelLabelInfo : public CWndEx {
public:
    TChannelLabelInfo() = default;
    ~TChannelLabelInfo() override;

    // A child of `parent` at `rect` showing `text` (UTF-8).
    bool Create(HWND parent, const RECT& rect, const char* text);
    void SetMark(TLabelMark mark);
    TLabelMark Mark() const { return m_mark; }
    const std::string& Text() const { return m_text; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void Draw();

    TMemoryDC m_background;
    std::string m_text;
    TLabelMark m_mark = TLabelMark::Plain;
    RECT m_markRect{};
    RECT m_textRect{};
};
