#pragma once
// A name/value pair that writes itself as one text: name, delimiter, value.
#include <string>

namespace OrbanexDesk {

class CString {
public:
    const std::string& Param() const { return Param_; }
    void setParam(const std::string& value) { Param_ = value; }
    const std::string& PAramVal() const { return PAramVal_; }
    void setPAramVal(const std::string& value) { PAramVal_ = value; }
    const std::string& Delimeter() const { return Delimeter_; }
    void setDelimeter(const std::string& value) { Delimeter_ = value; }
    // Param, Delimeter and PAramVal joined in that order.
    std::string DataRow() const { return Param_ + Delimeter_ + PAramVal_; }

private:
    std::string Param_;
    std::string PAramVal_;
    std::string Delimeter_;
};

}  // namespace OrbanexDesk
