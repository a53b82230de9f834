#include "sound/QtSoundOutput.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <algorithm>

// Qt Multimedia decodes waves on a thread of its own, and its sample cache,
// torn down when the process exits, waits for that thread while holding the
// lock the thread needs to finish a wave: a process that ends in the middle of
// a decoding never ends. So no effect is let go while its wave is decoding,
// and the player waits for the decoding to end before it goes.

namespace {
constexpr int kLongestDecodeMs = 3000;

bool isLoading(const std::unique_ptr<QSoundEffect> &effect)
{
    return effect && effect->status() == QSoundEffect::Loading;
}
} // namespace

QtSoundOutput::QtSoundOutput(std::function<void()> bell)
    : m_bell(std::move(bell))
{
}

QtSoundOutput::~QtSoundOutput()
{
    stop();
    const QDeadlineTimer deadline(kLongestDecodeMs);
    while (loading() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
    if (loading())
        qWarning("pingalo: a sound was still being decoded when the player closed");
}

bool QtSoundOutput::loading() const
{
    return isLoading(m_effect) || std::any_of(m_retired.begin(), m_retired.end(), isLoading);
}

void QtSoundOutput::ring()
{
    if (m_bell)
        m_bell();
    else
        QApplication::beep();
}

std::unique_ptr<QSoundEffect> QtSoundOutput::makeEffect()
{
    auto effect = std::make_unique<QSoundEffect>();
    // A file that is there but cannot be decoded or played also rings, unless
    // another sound has taken its place meanwhile.
    QSoundEffect *raw = effect.get();
    QObject::connect(raw, &QSoundEffect::statusChanged, raw, [this, raw] {
        if (raw == m_effect.get() && raw->status() == QSoundEffect::Error)
            ring();
    });
    return effect;
}

void QtSoundOutput::play(const QString &path, bool loop)
{
    stop();
    if (!QFileInfo(path).isFile()) {
        ring();
        return;
    }
    // An effect whose wave is still decoding is not handed a new one: it is
    // let go once done, and a new effect plays the new sound.
    std::erase_if(m_retired, [](const auto &effect) { return !isLoading(effect); });
    if (isLoading(m_effect))
        m_retired.push_back(std::move(m_effect));
    if (!m_effect)
        m_effect = makeEffect();
    m_effect->setLoopCount(loop ? QSoundEffect::Infinite : 1);
    m_effect->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    m_effect->play();
}

void QtSoundOutput::stop()
{
    if (m_effect)
        m_effect->stop();
}
