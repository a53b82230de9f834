#pragma once

#include <QTest>
#include <functional>
#include <memory>
#include <vector>

// Several QtTest classes make up one test program per subsystem: each test
// file includes this (and with it QTest), registers its class with
// PINGALO_TEST, and the program's main runs them all and fails when any of
// them fails.
// The tests write their texts as u"..."_s.
using namespace Qt::StringLiterals;

namespace TestRegistry {

inline std::vector<std::function<std::unique_ptr<QObject>()>> &factories()
{
    static std::vector<std::function<std::unique_ptr<QObject>()>> list;
    return list;
}

template<class T> struct Add {
    Add()
    {
        factories().push_back([] { return std::make_unique<T>(); });
    }
};

} // namespace TestRegistry

#define PINGALO_TEST(Class) static const TestRegistry::Add<Class> s_register##Class;
