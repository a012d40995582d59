#pragma once

#include <QString>

// User accounts of CtrlUser. Passwords are kept only as Argon2id hashes.
namespace UserStore {

// True when CtrlUser holds at least one user. Throws DbError.
bool any();
// Adds a user and grants every menu item, in one transaction. Throws DbError.
void createWithAllRights(const QString& userId, const QString& name, const QString& password);
// The stored code of the user whose code is userId in any letter case (the very
// code first), when the password is theirs; empty otherwise. Throws DbError.
QString check(const QString& userId, const QString& password);
// The user's name; empty when there is no such user. Throws DbError.
QString name(const QString& userId);

} // namespace UserStore
