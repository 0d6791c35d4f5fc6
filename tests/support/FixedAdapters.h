#pragma once

#include "netdlg/AdapterSource.h"

// A PC with exactly these adapters, for the connection dialog in tests.
class FixedAdapters final : public AdapterSource {
public:
    explicit FixedAdapters(QList<Ipv4Adapter> list) : list_(std::move(list)) {}
    QList<Ipv4Adapter> Adapters() const override { return list_; }

private:
    QList<Ipv4Adapter> list_;
};
