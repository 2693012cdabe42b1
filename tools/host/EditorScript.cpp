#include "tools/host/EditorScript.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace vsthost
{

namespace EditorScriptDetail
{
    using Type = EditorScript::Action::Type;

    struct Syntax
    {
        Type type;
        const char* name;
        int minNumbers, maxNumbers;
        bool takesText;             // a word after the numbers (or the rest of the line for "type")
    };

    const Syntax syntaxes[] = {
        { Type::click, "click", 2, 2, false },
        { Type::ctrlClick, "ctrl-click", 2, 2, false },
        { Type::drag, "drag", 4, 4, false },
        { Type::press, "press", 2, 2, false },
        { Type::release, "release", 2, 2, false },
        { Type::key, "key", 0, 0, true },
        { Type::type, "type", 0, 0, true },
        { Type::set, "set", 2, 2, false },
        { Type::program, "program", 1, 1, false },
        { Type::controller, "cc", 2, 2, false },
        { Type::audio, "audio", 1, 1, true },
        { Type::wait, "wait", 1, 1, false },
        { Type::screenshot, "screenshot", 0, 0, true },
        { Type::reopen, "reopen", 0, 0, false },
        { Type::close, "close", 0, 0, false },
        { Type::open, "open", 0, 0, false },
        { Type::cpu, "cpu", 1, 1, true },
        { Type::awaitSize, "await-size", 2, 2, false },
        { Type::awaitChange, "await-change", 0, 0, false },
    };

    std::string trim (const std::string& s)
    {
        const auto start = s.find_first_not_of (" \t\r");

        if (start == std::string::npos)
            return {};

        return s.substr (start, s.find_last_not_of (" \t\r") - start + 1);
    }

    bool parseNumber (const std::string& word, double& value)
    {
        errno = 0;
        char* end = nullptr;
        value = std::strtod (word.c_str(), &end);
        return ! word.empty() && end != nullptr && *end == 0 && errno == 0 && std::isfinite (value);
    }

    /** Checks what the numbers and the word of an action may be. */
    std::string checkValues (const EditorScript::Action& a)
    {
        const auto within = [&a] (size_t i, double low, double high) { return a.numbers[i] >= low && a.numbers[i] <= high; };

        switch (a.type)
        {
            case Type::click: case Type::ctrlClick: case Type::drag: case Type::press: case Type::release:
                for (size_t i = 0; i < a.numbers.size(); ++i)
                    if (! within (i, 0, 32767))
                        return "coordinates must lie from 0 to 32767";
                return {};

            case Type::set:
                if (! within (0, 0, 1.0e6) || a.numbers[0] != std::floor (a.numbers[0]))
                    return "the parameter index must be a whole number from 0";
                return within (1, 0, 1) ? std::string() : "the value must lie from 0 to 1";

            case Type::program:
                return within (0, 0, 127) && a.numbers[0] == std::floor (a.numbers[0]) ? std::string() : "the program must be a whole number from 0 to 127";

            case Type::controller:
                for (size_t i = 0; i < 2; ++i)
                    if (! within (i, 0, 127) || a.numbers[i] != std::floor (a.numbers[i]))
                        return "the controller and its value must be whole numbers from 0 to 127";
                return {};

            case Type::audio:
                if (! a.text.empty() && a.text != "sine" && a.text != "demo" && a.text != "silence")
                    return "the signal is sine, demo or silence";
                return within (0, 1, 600000) ? std::string() : "the time must lie from 1 to 600000 ms";

            case Type::cpu:
                if (! a.text.empty() && a.text != "audio")
                    return "cpu takes a time and optionally 'audio'";
                return within (0, 100, 600000) ? std::string() : "the time must lie from 100 to 600000 ms";

            case Type::wait:
                return within (0, 0, 600000) ? std::string() : "the time must lie from 0 to 600000 ms";

            case Type::key: case Type::type: case Type::screenshot:
                if (a.text.empty())
                    return "a text is missing";
                if (a.type == Type::screenshot && a.text.find_first_of ("/\\") != std::string::npos)
                    return "a screenshot name is a plain file name";
                return {};

            case Type::awaitSize:
                for (size_t i = 0; i < 2; ++i)
                    if (! within (i, 1, 32767) || a.numbers[i] != std::floor (a.numbers[i]))
                        return "the size must be whole numbers from 1 to 32767";
                return {};

            case Type::reopen: case Type::close: case Type::open: case Type::awaitChange:
                return {};
        }

        return {};
    }
} // namespace EditorScriptDetail

bool EditorScript::parse (const std::string& text, std::vector<Action>& actions, std::string& error)
{
    using namespace EditorScriptDetail;
    std::vector<Action> parsed;
    std::istringstream lines (text);
    std::string lineText;
    int lineNumber = 0;

    while (std::getline (lines, lineText))
    {
        ++lineNumber;
        std::istringstream pieces (lineText.substr (0, lineText.find ('#')));
        std::string piece;

        while (std::getline (pieces, piece, ';'))
        {
            piece = trim (piece);

            if (piece.empty())
                continue;

            const auto where = "line " + std::to_string (lineNumber) + ": ";
            const auto nameEnd = piece.find_first_of (" \t");
            const auto name = piece.substr (0, nameEnd);
            auto rest = nameEnd == std::string::npos ? std::string() : trim (piece.substr (nameEnd));

            const Syntax* syntax = nullptr;

            for (auto& s : syntaxes)
                if (name == s.name)
                    syntax = &s;

            if (syntax == nullptr)
            {
                error = where + "unknown action '" + name + "'";
                return false;
            }

            Action action;
            action.type = syntax->type;
            action.line = lineNumber;

            if (action.type == Type::type)
            {
                // Quotes keep outer spaces: type " Mk2"
                if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"')
                    rest = rest.substr (1, rest.size() - 2);

                action.text = rest;
            }
            else
            {
                std::istringstream words (rest);
                std::string word;

                while (words >> word)
                {
                    double value = 0;

                    if ((int) action.numbers.size() < syntax->maxNumbers && parseNumber (word, value))
                        action.numbers.push_back (value);
                    else if (syntax->takesText && action.text.empty() && (int) action.numbers.size() >= syntax->minNumbers)
                        action.text = word;
                    else
                    {
                        error = where + "unexpected '" + word + "' after " + name;
                        return false;
                    }
                }
            }

            if ((int) action.numbers.size() < syntax->minNumbers)
            {
                error = where + name + " needs " + std::to_string (syntax->minNumbers) + " number(s)";
                return false;
            }

            const auto problem = checkValues (action);

            if (! problem.empty())
            {
                error = where + name + ": " + problem;
                return false;
            }

            parsed.push_back (std::move (action));
        }
    }

    actions = std::move (parsed);
    return true;
}

const char* EditorScript::getName (Action::Type type) noexcept
{
    for (auto& s : EditorScriptDetail::syntaxes)
        if (s.type == type)
            return s.name;

    return "";
}

} // namespace vsthost
