#pragma once
// A reference to an account that does not own it.
#include <memory>
#include <string>

#include "general/common/ISafeObject.h"
#include "general/model/MModelStamps.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAccount;

class CAccountRef : public runtime::Object, public ISafeObject {
public:
    CAccountRef() = default;
    ~CAccountRef() override { Deallocate(); }
    CAccountRef(const CAccountRef&) = delete;
    CAccountRef& operator=(const CAccountRef&) = delete;

    // The account's number as decimal text; error 91 when the account is gone.
    std::string IndexKey() const;
    std::shared_ptr<CAccount> Account() const { return account_.lock(); }
    // The link itself, whether or not the account is still there.
    const std::weak_ptr<CAccount>& AccountLink() const { return account_; }
    void setAccount(const std::shared_ptr<CAccount>& value) {
        account_ = value;
        membership::MembersChanged();
    }

    // Forgets the account; the account itself is not released.
    void Deallocate() override {
        account_.reset();
        membership::MembersChanged();
    }

private:
    std::weak_ptr<CAccount> account_;
};

}  // namespace OrbanelGeneral10
