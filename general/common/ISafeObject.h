#pragma once
// The explicit way out of reference rings: Deallocate empties an object's
// references before its last holder lets go. It runs the same steps as the
// destructor, so it must be safe to run more than once.

namespace OrbanelGeneral10 {

class ISafeObject {
public:
    virtual ~ISafeObject() = default;
    virtual void Deallocate() = 0;
};

}  // namespace OrbanelGeneral10
