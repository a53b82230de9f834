#include "gui/platform/TrayClickDecoder.h"

TrayClickDecoder::Act TrayClickDecoder::decode(Event event, qint64 timeMs)
{
    switch (event) {
    case Event::Context:
        m_lastTrigger = -1;
        return Act::Menu;
    case Event::DoubleClick:
        // The host decoded it itself; a click that follows it starts afresh.
        m_lastTrigger = -1;
        return Act::DoubleClick;
    case Event::Trigger:
        if (m_lastTrigger >= 0 && timeMs - m_lastTrigger <= m_interval) {
            m_lastTrigger = -1;
            return Act::DoubleClick;
        }
        m_lastTrigger = timeMs;
        return Act::Nothing;
    case Event::Middle:
    case Event::Other:
        break;
    }
    return Act::Nothing;
}
