#pragma once

#include "appbase/ServerRequestDelegate.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/TextFieldDelegate.h"
#include "platform/ui/TextViewDelegate.h"

// The roles of the feedback form, gathered in one place: it edits its remark box and contact
// field, waits under the busy overlay and hears its request. Nothing else adopts it.
class FeedViewControllerDelegate : public ui::TextViewDelegate,
                                   public ui::TextFieldDelegate,
                                   public ProgressHUDDelegate,
                                   public ServerRequestDelegate {
};
