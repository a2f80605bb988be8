// The form layer's events, apart from Windows: what an event carries and how
// a handler is bound to one. The settings program's logic includes this to
// take the events' own argument types, so that its handlers are bound
// straight to the controls, without a forwarder in between.
#pragma once
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

namespace fw::forms {

class TObject {
public:
    virtual ~TObject() = default;
    int Tag = 0;
};

enum : uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = uint8_t;
enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
enum class TItemChange : uint8_t { ctText, ctImage, ctState };

// An event: a handler bound to its object, called with the sender and the
// event's arguments. `value` is the fixed first argument of a handler bound
// with one.
template <class... A>
struct TEvent {
    void* self = nullptr;
    intptr_t value = 0;
    void (*call)(void*, intptr_t, A...) = nullptr;
    explicit operator bool() const { return call != nullptr; }
    void operator()(A... a) const {
        if (call) call(self, value, a...);
    }
};

namespace detail {

// What a handler is: a member function, or a free function whose first
// parameter is the object it works on.
template <auto M>
struct Target;
template <class C, class... P, void (C::*M)(P...)>
struct Target<M> {
    using Class = C;
    using Params = std::tuple<P...>;
    template <class... X>
    static void Invoke(C* c, X&&... x) {
        (c->*M)(std::forward<X>(x)...);
    }
};
template <class C, class... P, void (*M)(C&, P...)>
struct Target<M> {
    using Class = C;
    using Params = std::tuple<P...>;
    template <class... X>
    static void Invoke(C* c, X&&... x) {
        M(*c, std::forward<X>(x)...);
    }
};

template <class Tuple>
struct FirstIsSender : std::false_type {};
template <class First, class... Rest>
struct FirstIsSender<std::tuple<First, Rest...>> : std::is_same<First, TObject*> {};

// Calls the handler with the fixed value (when it has one) and as many of the
// event's arguments as it takes: all of them when its first parameter is the
// sender, else those after the sender.
template <auto M, bool WithValue, class... A>
struct Caller {
    using T = Target<M>;
    using P = typename T::Params;
    static constexpr bool kFull = !WithValue && FirstIsSender<P>::value;
    static constexpr size_t kSkip = kFull ? 0 : 1;  // the sender
    static constexpr size_t kTaken = std::tuple_size<P>::value - (WithValue ? 1 : 0);
    static_assert(kTaken + kSkip <= sizeof...(A), "the handler takes more than the event gives");

    template <size_t... I>
    static void Call(typename T::Class* c, intptr_t v, std::tuple<A&...> args, std::index_sequence<I...>) {
        if constexpr (WithValue)
            T::Invoke(c, static_cast<std::tuple_element_t<0, P>>(v), std::get<I + kSkip>(args)...);
        else
            T::Invoke(c, std::get<I + kSkip>(args)...);
    }
    static void Thunk(void* self, intptr_t v, A... a) {
        Call(static_cast<typename T::Class*>(self), v, std::tuple<A&...>(a...), std::make_index_sequence<kTaken>{});
    }
};

template <auto M, bool WithValue>
struct Binding {
    void* self;
    intptr_t value;
    template <class... A>
    operator TEvent<A...>() const {
        return TEvent<A...>{self, value, &Caller<M, WithValue, A...>::Thunk};
    }
};

}  // namespace detail

// btnOK->OnClick = Bind<&OptionDlgLogic::btnOKClick>(this);
// A handler whose first parameter is the sender takes every argument of the
// event; any other handler gets the arguments after the sender.
template <auto M, class D>
detail::Binding<M, false> Bind(D* object) {
    typename detail::Target<M>::Class* self = object;  // adjusts for the base the handler is declared in
    return {self, 0};
}

// btnAddRulebyURL->OnClick = Bind<&OptionDlgLogic::OnAdd>(this, RuleDialogKind::Url);
// The handler takes `value` first, then the event's arguments after the sender.
template <auto M, class D, class V>
detail::Binding<M, true> Bind(D* object, V value) {
    using First = std::tuple_element_t<0, typename detail::Target<M>::Params>;
    static_assert(std::is_same<std::decay_t<First>, V>::value, "the fixed value is not of the handler's first type");
    static_assert(sizeof(V) <= sizeof(intptr_t) && std::is_trivially_copyable<V>::value, "a small value only");
    typename detail::Target<M>::Class* self = object;
    return {self, static_cast<intptr_t>(value)};
}

}  // namespace fw::forms
