// JSON for the stand-in host program: a reader that keeps every value's line and column and
// refuses what the program must not take on trust, and a writer whose output is the same
// bytes on every platform.
//
// The reader refuses, with the line and column of the problem: malformed text, text that is
// not UTF-8, duplicate keys in an object, numbers beyond the range of a double (1e999) or
// below its smallest (1e-999), nesting deeper than 64 levels. It never throws.
//
// The writer escapes control characters, replaces bytes that are not UTF-8 with U+FFFD (so a
// path or name from anywhere still gives valid JSON), writes numbers in their shortest form
// that reads back to the same double (or float, for single-precision values), and writes a
// non-finite number as null.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace host::json {

struct Value {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    bool single = false;                                  // the number is a float's value
    std::string text;                                     // a string's content
    std::vector<Value> items;                             // an array's elements
    std::vector<std::pair<std::string, Value>> members;  // an object's members, in order
    size_t offset = 0;                                    // where the value starts in the text

    // The member named `key`, or null.
    const Value* find(const std::string& key) const;

    // Builders for output.
    static Value null();
    static Value of(bool b);
    static Value of(double d);
    // A value the module holds in single precision (a panel field): written as the shortest
    // text that reads back to that float ("0.001", not "0.0010000000474974513").
    static Value of_single(double d);
    static Value of(int i);
    static Value of(size_t i);
    static Value of(const std::string& s);
    static Value of(const char* s);
    static Value array();
    static Value object();
    static Value object(std::initializer_list<std::pair<const char*, Value>> members);
    Value& add(Value v);                             // appends to an array
    Value& set(const std::string& key, Value v);     // appends a member to an object
};

struct ParseError {
    int line = 0, column = 0;
    std::string what;
};

// Parses a whole document; false with `error` set.
bool parse(const std::string& text, Value& out, ParseError& error);

// The line and column (from 1; columns count characters) of a byte offset of `text`.
void position(const std::string& text, size_t offset, int& line, int& column);

// The document as text: indented by `indent` spaces per level, or on one line when 0; written
// as a value nested `level` levels deep would be.
std::string write(const Value& v, int indent = 2, int level = 0);

// `s` as a JSON string literal, quotes included.
std::string quote(const std::string& s);

// The shortest decimal text that reads back as `v` (locale-independent, the same on every
// platform); "null" for NaN and infinities. With `single`, the shortest that reads back as the
// float `v` (which must be a float's value).
std::string number_text(double v, bool single = false);

}  // namespace host::json
