// Environment variables set for one test: the values they had before are put
// back when the test ends.
#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_)
            Put(name, value);
    }

    // Sets the variable, or removes it for none.
    void Set(const std::string& name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        Put(name, value);
    }

  private:
    static void Put(const std::string& name, const std::optional<std::string>& value) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

    std::map<std::string, std::optional<std::string>> saved_;
};
