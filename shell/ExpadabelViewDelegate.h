#pragma once

#include <QJsonObject>

// The accordion's owner: told the record of the entry that was tapped.
class ExpadabelViewDelegate {
public:
    virtual ~ExpadabelViewDelegate() = default;
    virtual void sendData(const QJsonObject& data) = 0;
};
