// One assertion for errors: the action throws the exception class E (or one derived from it)
// with exactly the message given, or with a message holding every part given.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace quarto::test {

template <class E, class F> void ExpectThrowMessage(F&& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "nothing thrown, expected: " << message;
    } catch (const E& e) {
        EXPECT_EQ(e.what(), message);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "another error thrown: " << e.what() << "; expected: " << message;
    }
}

template <class E, class F>
void ExpectThrowContaining(F&& action, std::initializer_list<std::string> parts) {
    try {
        action();
        ADD_FAILURE() << "nothing thrown, expected a message with: " << *parts.begin();
    } catch (const E& e) {
        const std::string message = e.what();
        for (const std::string& part : parts)
            EXPECT_NE(message.find(part), std::string::npos)
                << "\"" << part << "\" is not in: " << message;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "another error thrown: " << e.what();
    }
}

} // namespace quarto::test
