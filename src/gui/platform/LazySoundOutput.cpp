#include "gui/platform/LazySoundOutput.h"

#include <QApplication>
#include <QDir>
#include <QLibrary>
#include <cstdio>

namespace {
using Factory = SoundOutput *(*)(void (*bell)(void *), void *context);
} // namespace

LazySoundOutput::LazySoundOutput(QStringList folders, std::function<void()> bell)
    : m_folders(std::move(folders))
    , m_bell(std::move(bell))
{
}

LazySoundOutput::~LazySoundOutput()
{
    // The player's code lives in the module: it goes before the module does.
    m_output.reset();
    // The module stays mapped (QLibrary does not unload on destruction), as
    // Qt Multimedia keeps threads and handlers of its own.
}

void LazySoundOutput::ring()
{
    if (m_bell)
        m_bell();
    else
        QApplication::beep();
}

bool LazySoundOutput::load()
{
    if (m_output)
        return true;
    if (m_failed)
        return false;
    QStringList tried;
    for (const QString &folder : std::as_const(m_folders)) {
        auto library = std::make_unique<QLibrary>(QDir(folder).filePath(kModuleName));
        tried << library->fileName();
        const auto create =
            reinterpret_cast<Factory>(library->resolve("pingalo_create_sound_output"));
        if (!create)
            continue;
        m_output.reset(
            create([](void *self) { static_cast<LazySoundOutput *>(self)->ring(); }, this));
        m_library = std::move(library);
        return m_output != nullptr;
    }
    m_failed = true;
    std::fprintf(stderr, "pingalo: cannot load the sound player (%s); the bell rings instead\n",
                 qPrintable(tried.join(QStringLiteral(", "))));
    return false;
}

void LazySoundOutput::play(const QString &path, bool loop)
{
    if (load())
        m_output->play(path, loop);
    else
        ring();
}

void LazySoundOutput::stop()
{
    if (m_output)
        m_output->stop();
}
