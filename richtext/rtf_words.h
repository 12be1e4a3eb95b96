// The control words the RTF reader knows, each named once: the name a document writes and the
// meaning the reader gives it. Names it does not know come back as Word::Unknown, and the
// destinations whose text is no part of the document as Word::Skip.
#pragma once

#include <cstdint>
#include <string_view>

namespace termdex::rtf {

enum class Word : uint8_t {
    Unknown,
    Skip, // a destination whose whole group is left out
    Ansicpg,
    B,
    Bin,
    Blue,
    Bullet,
    Cb,
    Cell,
    Cellx,
    Cf,
    Colortbl,
    Deff,
    Dibitmap,
    Emdash,
    Emfblip,
    Emspace,
    Endash,
    Enspace,
    F,
    Fcharset,
    Fi,
    Fonttbl,
    Fs,
    Green,
    Highlight,
    I,
    Intbl,
    Jpegblip,
    Ldblquote,
    Li,
    Line,
    Lquote,
    Mac,
    Nosupersub,
    Page,
    Par,
    Pard,
    Pc,
    Pca,
    Pich,
    Pichgoal,
    Picscalex,
    Picscaley,
    Pict,
    Picw,
    Picwgoal,
    Plain,
    Pngblip,
    Qc,
    Qj,
    Ql,
    Qr,
    Rdblquote,
    Red,
    Ri,
    Row,
    Rquote,
    Sa,
    Sb,
    Sect,
    Shppict,
    Strike,
    Sub,
    Super,
    Tab,
    Trgaph,
    Trleft,
    Trowd,
    Trqc,
    Trql,
    Trqr,
    U,
    Uc,
    Ul,
    Ulnone,
    Wbitmap,
    Wbmbitspixel,
    Wbmwidthbytes,
    Wmetafile,
    Count, // the number of words above, for tables indexed by word
};

// The word of a control word's name (its letters, without the backslash and the number).
Word LookUp(std::string_view name);

} // namespace termdex::rtf
