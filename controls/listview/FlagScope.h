#pragma once
// Sets a flag for as long as a scope runs and gives it back its value when
// the scope ends, however it ends.
namespace quill::listview {

class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = before_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool before_;
};

}  // namespace quill::listview
