#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMetaObject>
#include <QMimeData>

namespace termdex {

namespace {

class QtClipboard final : public Clipboard
{
public:
    QtClipboard() : m_clipboard(QGuiApplication::clipboard()) {}
    ~QtClipboard() override { QObject::disconnect(m_connection); }
    QtClipboard(const QtClipboard &) = delete;
    QtClipboard &operator=(const QtClipboard &) = delete;

    std::string Text() override { return m_clipboard->text().toStdString(); }

    bool HasText() override
    {
        const QMimeData *data = m_clipboard->mimeData();
        return data != nullptr && data->hasText() && !data->text().isEmpty();
    }

    void SetText(const std::string &utf8) override
    {
        m_clipboard->setText(QString::fromStdString(utf8));
    }

    void SetRich(const RichClip &clip) override
    {
        auto *data = new QMimeData;
        const QByteArray rtf(clip.rtf.data(), static_cast<qsizetype>(clip.rtf.size()));
        data->setData(QStringLiteral("text/rtf"), rtf);
        data->setData(QStringLiteral("application/rtf"), rtf);
        data->setHtml(QString::fromStdString(clip.html));
        data->setText(QString::fromStdString(clip.plain));
        m_clipboard->setMimeData(data); // the clipboard owns it
    }

    void Clear() override { m_clipboard->clear(); }

    void SetChangedHandler(std::function<void()> handler) override
    {
        QObject::disconnect(m_connection);
        if (handler)
            m_connection = QObject::connect(m_clipboard, &QClipboard::dataChanged,
                                            [handler = std::move(handler)] { handler(); });
    }

private:
    QClipboard *m_clipboard;
    QMetaObject::Connection m_connection;
};

} // namespace

std::unique_ptr<Clipboard> SystemClipboard() { return std::make_unique<QtClipboard>(); }

} // namespace termdex
