#include "platform/QtSoundOutput.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>


QtSoundOutput::QtSoundOutput(std::function<void()> bell)
    : m_bell(std::move(bell))
{
}

QtSoundOutput::~QtSoundOutput() = default;

void QtSoundOutput::ring()
{
    if (m_bell)
        m_bell();
    else
        QApplication::beep();
}

void QtSoundOutput::play(const QString &path, bool loop)
{
    stop();
    if (!QFileInfo(path).isFile()) {
        ring();
        return;
    }
    if (!m_effect) {
        m_effect = std::make_unique<QSoundEffect>();
        // A file that is there but cannot be decoded or played also rings.
        QObject::connect(m_effect.get(), &QSoundEffect::statusChanged, m_effect.get(), [this] {
            if (m_effect->status() == QSoundEffect::Error)
                ring();
        });
    }
    m_effect->setLoopCount(loop ? QSoundEffect::Infinite : 1);
    m_effect->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    m_effect->play();
}

void QtSoundOutput::stop()
{
    if (m_effect)
        m_effect->stop();
}
