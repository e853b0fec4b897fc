#include "server/AwaitedReplies.h"

namespace server {

void AwaitedReplies::add()
{
    m_count.fetch_add(1);
}

void AwaitedReplies::done()
{
    if (m_count.fetch_sub(1) == 1)
        m_count.notify_all();
}

void AwaitedReplies::awaitNone()
{
    for (long count = m_count.load(); count != 0; count = m_count.load())
        m_count.wait(count);
}

} // namespace server
