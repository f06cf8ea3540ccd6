// Actions: a command with its caption, image and handler kept in one place, which controls
// linked to it show and run. An action list holds the actions and the image list of their images.
#pragma once

#include "framework/rtl/component.h"
#include "framework/rtl/reflection.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zaprelay::win32 {

class TAction;
class TImageList;

// A control linked to an action hears of each change of it.
class TActionLink {
public:
    virtual ~TActionLink() = default;
    virtual void ActionChanged(TAction& action) = 0;
    // The action is being destroyed: forget it (it is no longer whole).
    virtual void ActionDestroyed(TAction& action) = 0;
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner);
    ~TActionList() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TImageList* Images() const { return m_images; }
    void SetImages(TImageList* value);
    int ActionCount() const { return static_cast<int>(m_actions.size()); }
    TAction* Actions(int index) const { return m_actions.at(static_cast<std::size_t>(index)); }
    void Add(TAction* action);
    void Remove(TAction* action);

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TImageList* m_images = nullptr;
    std::vector<TAction*> m_actions;
};

class TAction : public TComponent {
public:
    explicit TAction(TComponent* owner);
    ~TAction() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    const std::u16string& Caption() const { return m_caption; }
    void SetCaption(const std::u16string& value);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    // An image of the list's image list; -1 for none.
    int32_t ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int32_t value);
    TActionList* ActionList() const { return m_list; }
    void SetActionList(TActionList* value);
    TNotifyEvent OnExecute;

    // OnExecute with sender, when the action is enabled and has one; false otherwise.
    bool Execute(TObject* sender);

    void Link(TActionLink* link);
    void Unlink(TActionLink* link);
    // Tells every linked control.
    void Changed();

    // Read inside an action list's record: the action joins that list.
    void SetParentComponent(TComponent* parent) override;
    bool HasParent() const override { return m_list != nullptr; }
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::u16string m_caption;
    bool m_enabled = true;
    int32_t m_imageIndex = -1;
    TActionList* m_list = nullptr;
    std::vector<TActionLink*> m_links;
};

}  // namespace zaprelay::win32
