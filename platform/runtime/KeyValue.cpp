#include "platform/runtime/KeyValue.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <utility>

namespace rt {

void KeyTable::add(KeyAccessor accessor) {
    _own.push_back(std::make_unique<const KeyAccessor>(std::move(accessor)));
    const KeyAccessor* added = _own.back().get();
    _all.insert_or_assign(added->key(), added);
}

void KeyTable::inherit(const KeyTable& superclassTable) {
    _all = superclassTable._all;
}

const KeyTable& Class::keyTable() const {
    std::call_once(_keyTableOnce, [this] {
        auto table = std::make_shared<KeyTable>();
        if (_superclass != nullptr) table->inherit(_superclass->keyTable());
        if (_registerKeys != nullptr) _registerKeys(*table);
        _keyTable = std::move(table);
    });
    return *_keyTable;
}

namespace {

struct Reports {
    std::mutex mutex;
#ifdef NDEBUG
    KeyValueReporter reporter;
#else
    KeyValueReporter reporter = [](const KeyValueIssue& issue) {
        std::fprintf(stderr, "%s\n", issue.message.c_str());
    };
#endif
    std::set<std::pair<const Class*, std::string>> reported;
};

Reports& reports() {
    static Reports instance;
    return instance;
}

// Tells the reporter, once per class and key, that a key or value was ignored. The
// reporter is called outside the lock, so that it may itself set values.
void reportIgnored(const Class& cls, std::string_view key, const KeyAccessor* accessor, const Value& value) {
    KeyValueReporter reporter;
    {
        Reports& r = reports();
        std::lock_guard lock(r.mutex);
        if (!r.reporter || !r.reported.emplace(&cls, std::string(key)).second) return;
        reporter = r.reporter;
    }
    std::string message = "OLMCalendar: " + cls.name() + " ignored key \"" + std::string(key) + "\": ";
    if (accessor == nullptr)
        message += "no such key";
    else if (value.isNilOrNull())
        message += value.describe() + " cannot clear it (it takes " + accessor->takes() + ")";
    else
        message += "it takes " + accessor->takes() + ", not " + value.describe();
    reporter(KeyValueIssue{cls, key, std::move(message)});
}

} // namespace

KeyValueReporter setKeyValueReporter(KeyValueReporter reporter) {
    Reports& r = reports();
    std::lock_guard lock(r.mutex);
    r.reported.clear();
    return std::exchange(r.reporter, std::move(reporter));
}

bool setValueForKey(Object& node, std::string_view key, const Value& value) {
    const Class& cls = node.objectClass();
    const KeyAccessor* accessor = cls.keyTable().find(key);
    if (accessor != nullptr && accessor->set(node, value)) return true;
    reportIgnored(cls, key, accessor, value);
    return false;
}

Value getValueForKey(const Object& node, std::string_view key) {
    const KeyAccessor* accessor = node.objectClass().keyTable().find(key);
    return accessor != nullptr ? accessor->get(node) : Value();
}

} // namespace rt
