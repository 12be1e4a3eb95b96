// The system clipboard as the window uses it: plain text in and out, a description copied with
// its formatting, and a notice whenever the clipboard changes. Text is UTF-8.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace termdex {

// One copy with formatting: every receiver takes the richest form it understands.
struct RichClip
{
    std::string rtf;   // an RTF document (text/rtf), code page bytes inside
    std::string html;  // UTF-8 (text/html)
    std::string plain; // UTF-8 (text/plain)
};

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // The clipboard's plain text; empty when it holds none.
    virtual std::string Text() = 0;
    virtual bool HasText() = 0;
    // Replaces the clipboard's content with plain text.
    virtual void SetText(const std::string &utf8) = 0;
    // Replaces it with the three forms of one formatted text.
    virtual void SetRich(const RichClip &clip) = 0;
    // Empties the clipboard.
    virtual void Clear() = 0;
    // Called after every change of the clipboard, the program's own included; joining sends no
    // notice of the content already there. An empty function stops the notices.
    virtual void SetChangedHandler(std::function<void()> handler) = 0;
};

// The desktop's clipboard through QGuiApplication; needs the application object.
std::unique_ptr<Clipboard> SystemClipboard();

} // namespace termdex
