#pragma once
#include <utility>

#include "platform/Application.h"

// Qt does not let an exception unwind through its signal dispatch. Handlers
// are connected through guarded(): what one throws (a conversion error, a
// failed write) is shown as the application shows an exception, the handler
// returns and the program goes on. The handlers themselves still throw when
// called directly.

namespace guarded_detail {

template <typename Call>
void showingExceptions(Call&& call)
{
    try {
        call();
    } catch (...) {
        Application::showCurrentException();
    }
}

template <typename Handler, typename Class, typename Result, typename... Args>
auto withSignature(Handler handler, Result (Class::*)(Args...) const)
{
    return [handler = std::move(handler)](Args... args) {
        showingExceptions([&] { handler(std::forward<Args>(args)...); });
    };
}

} // namespace guarded_detail

// The receiver's member function handler, guarded; it takes the arguments
// the member function takes.
template <typename Receiver, typename Class, typename Result, typename... Args>
auto guarded(Receiver* receiver, Result (Class::*handler)(Args...))
{
    return [receiver, handler](Args... args) {
        guarded_detail::showingExceptions([&] { (receiver->*handler)(std::forward<Args>(args)...); });
    };
}

// A lambda handler, guarded; it takes the arguments the lambda takes.
template <typename Handler>
auto guarded(Handler handler)
{
    return guarded_detail::withSignature(std::move(handler), &Handler::operator());
}
