#pragma once

#include <QString>

// A controller the login page offers in its "Controller" list: the installation's controllers,
// given by the layer above that knows the installation.
struct LoginTarget {
    QString name;
    QString address;
    quint16 port = 21;
    QString user;
};
