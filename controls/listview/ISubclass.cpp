#include "controls/listview/ISubclass.h"

#include <unordered_set>

namespace quill::listview {

namespace {

// Every owner alive in the process. Windows are used from one thread, and an
// owner is made and ends on that thread.
std::unordered_set<const ISubclass*>& LiveOwners()
{
    static std::unordered_set<const ISubclass*> owners;
    return owners;
}

}  // namespace

ISubclass::ISubclass()
{
    LiveOwners().insert(this);
}

ISubclass::ISubclass(const ISubclass&)
{
    LiveOwners().insert(this);
}

ISubclass::~ISubclass()
{
    LiveOwners().erase(this);
}

bool ISubclass::IsLive(const ISubclass* owner)
{
    return owner && LiveOwners().contains(owner);
}

}  // namespace quill::listview
