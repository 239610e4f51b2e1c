#pragma once

#include "ge/point3d.h"
#include "ge/vector3d.h"

#include <QRgb>

#include <vector>

class AcDbEntity;
class AcGsDevice;
class AcGsView;
class QPainter;
class QSize;

// What a view draws: an entity of a database, or one standing alone (a temporary block
// reference made for a picture, whose definition is in a database).
using AcGiDrawable = AcDbEntity;

// A set of drawables that share their graphics; views draw each drawable in the model
// it was added with. A model that goes takes its drawables out of every view.
class AcGsModel {
public:
    AcGsModel() = default;
    ~AcGsModel();
    AcGsModel(const AcGsModel&) = delete;
    AcGsModel& operator=(const AcGsModel&) = delete;

private:
    friend class AcGsView;
    std::vector<AcGsView*> m_views;
};

// A camera onto drawables: it draws them into its device's window, viewed from the
// camera's position toward its target with the up vector pointing up, scaled so that
// a field of fieldWidth × fieldHeight drawing units around the target fits the device
// (the larger of the two fits decides), the target in the device's centre. Only the
// parallel projection is drawn; a perspective camera is drawn parallel.
class AcGsView {
public:
    enum Projection { kParallel = 0, kPerspective = 1 };

    AcGsView() = default;
    ~AcGsView();
    AcGsView(const AcGsView&) = delete;
    AcGsView& operator=(const AcGsView&) = delete;

    // Not owned: the drawable must outlive its place in the view (erase it first).
    bool add(AcGiDrawable* drawable, AcGsModel* model);
    bool erase(AcGiDrawable* drawable);
    void eraseAll();

    void setView(const AcGePoint3d& position, const AcGePoint3d& target, const AcGeVector3d& upVector,
                 double fieldWidth, double fieldHeight, Projection projection = kParallel);
    AcGePoint3d position() const { return m_position; }
    AcGePoint3d target() const { return m_target; }
    AcGeVector3d upVector() const { return m_up; }
    double fieldWidth() const { return m_fieldWidth; }
    double fieldHeight() const { return m_fieldHeight; }

    // The drawing is out of date; update() draws it again into the device's window.
    void invalidate();
    void update();

    AcGsDevice* device() const { return m_device; }

    // The device's side: drawing the view onto a surface of the device's size, ACI 7
    // in foreground.
    void draw(QPainter& painter, const QSize& size, QRgb foreground) const;
    void setDevice(AcGsDevice* device) { m_device = device; }
    void forgetModel(AcGsModel* model);

private:
    struct Entry {
        AcGiDrawable* drawable;
        AcGsModel* model;
    };
    std::vector<Entry> m_entries;
    AcGsDevice* m_device = nullptr;
    AcGePoint3d m_position{0, 0, 1};
    AcGePoint3d m_target{0, 0, 0};
    AcGeVector3d m_up{0, 1, 0};
    double m_fieldWidth = 1.0, m_fieldHeight = 1.0;
};
