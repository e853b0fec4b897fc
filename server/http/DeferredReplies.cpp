#include "server/http/DeferredReplies.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>

#include <utility>

namespace server {

void DeferredReplies::add()
{
    m_waiting.fetch_add(1);
}

void DeferredReplies::withdraw()
{
    if (m_waiting.fetch_sub(1) == 1)
        m_waiting.notify_all();
}

void DeferredReplies::deliver(boost::asio::io_context& network, Send send)
{
    bool post = false;
    {
        std::lock_guard lock(m_mutex);
        m_ready.push_back(std::move(send));
        post = !std::exchange(m_sendPosted, true);
    }
    if (post)
        boost::asio::post(network, [this] { sendReady(); });
    withdraw();
}

void DeferredReplies::sendReady()
{
    std::vector<Send> ready;
    {
        std::lock_guard lock(m_mutex);
        ready.swap(m_ready);
        m_sendPosted = false;
    }
    for (Send& send : ready)
        send();
}

void DeferredReplies::dropAll()
{
    for (long waiting = m_waiting.load(); waiting != 0; waiting = m_waiting.load())
        m_waiting.wait(waiting);
    std::vector<Send> unsent;
    std::lock_guard lock(m_mutex);
    unsent.swap(m_ready);
    m_sendPosted = false;
}

} // namespace server
