#pragma once
// Client parameters that keep every value: the pricing values of
// CClientParamSvr plus the lot limits and order offsets.
#include "general/model/CClientParamSvr.h"

namespace OrbanelGeneral10 {

class CClientParamCl : public CClientParamSvr {
public:
    double MaxLots() const override { return maxLots_; }
    void setMaxLots(double value) override { maxLots_ = value; }
    double MinLots() const override { return minLots_; }
    void setMinLots(double value) override { minLots_ = value; }
    double LimitOffset() const override { return limitOffset_; }
    void setLimitOffset(double value) override { limitOffset_ = value; }
    double StopOffset() const override { return stopOffset_; }
    void setStopOffset(double value) override { stopOffset_ = value; }

private:
    double maxLots_ = 0;
    double minLots_ = 0;
    double limitOffset_ = 0;
    double stopOffset_ = 0;
};

}  // namespace OrbanelGeneral10
