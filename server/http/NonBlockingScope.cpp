#include "server/http/NonBlockingScope.h"

#include "server/http/WouldBlock.h"

#include <utility>

namespace server {

namespace {
thread_local NonBlockingScope* t_current = nullptr;
} // namespace

NonBlockingScope::NonBlockingScope()
    : m_outer(t_current)
{
    t_current = this;
}

NonBlockingScope::~NonBlockingScope()
{
    t_current = m_outer;
}

bool NonBlockingScope::active()
{
    return t_current != nullptr;
}

void NonBlockingScope::refuseWait()
{
    if (t_current)
        throw WouldBlock();
}

void NonBlockingScope::defer(Write write)
{
    if (t_current->m_write)
        throw WouldBlock();
    t_current->m_write = std::move(write);
}

std::optional<NonBlockingScope::Write> NonBlockingScope::takeWrite()
{
    return std::exchange(m_write, std::nullopt);
}

} // namespace server
