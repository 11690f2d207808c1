-- Head-office schema, part: voucher entry support: stored vouchers, related-voucher queries, the voucher search.
-- Tables and columns added to those of volma.sql (ALTER TABLE for a table defined there).

-- The audit of voucher actions: one row per addition (A), change (M) or removal (B) of a voucher.
CREATE TABLE dbo.V_MV_CPTEACCIONES (
    TC varchar(4) NOT NULL,
    IdComprobante varchar(13) NOT NULL,
    IdComplemento int NOT NULL DEFAULT 0,
    Tipo_accion char(1) NOT NULL,
    FECHAHORA datetime NULL,
    Usuario varchar(50) NULL,
    PC varchar(50) NULL,
    SYSTEMUSER varchar(50) NULL,
    NUMEROASIENTO int NULL
)

-- The lines each printed voucher form holds, per type and letter; 0 is no limit. The first row
-- by ID counts.
CREATE TABLE dbo.TA_CONFIG_IMP_CPTE (
    ID int NOT NULL PRIMARY KEY,
    TC varchar(4) NOT NULL,
    LETRA char(1) NOT NULL,
    CANTLINEAS int NULL
)

-- Charges applied to a client's account; the account's balance is the sum of SALDO.
CREATE TABLE dbo.V_MV_CargosAplicados (
    CUENTA varchar(15) NOT NULL,
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    FECHA datetime NULL,
    SALDO money NULL
)

-- The article lines of the sales vouchers. IdReparto -1: the line is delivered in parts (its
-- pending quantity is the ordered less what left stock under the voucher). Nro_Lote and Nro_Serie
-- are lot and series lists ("|L1|L2|"); ESPESOR, Ancho, Equiv_UDBase (the length), Ud_Pr and
-- Importe_Ud are the timber trade's measures and unit price; PALLETS orders the lines of an order.
CREATE TABLE dbo.V_MV_CPTEINSUMOS (
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    IdComplemento int NOT NULL DEFAULT 0,
    ID int NOT NULL,
    IdArticulo nvarchar(25) NOT NULL,
    Descripcion nvarchar(100) NULL,
    IdUnidad varchar(4) NULL,
    Cantidad float NULL,
    IdReparto int NULL,
    IdUnidadBase varchar(4) NULL,
    CantidadUD float NULL,
    Importe money NULL,
    Exento bit NOT NULL DEFAULT 0,
    PorcDto float NULL,
    IdLista varchar(4) NULL,
    IdDeposito varchar(4) NULL,
    Presentacion nvarchar(50) NULL,
    Costo money NULL,
    IMPORTE_S_IVA money NULL,
    Impuestos money NULL,
    iTC money NULL,
    Total money NULL,
    Nro_Lote varchar(255) NULL,
    Nro_Serie varchar(255) NULL,
    ControladoPor varchar(50) NULL,
    IdOrigen varchar(4) NULL,
    AlicIVA float NULL,
    Precio_Lista money NULL,
    CodigoArtProveedor nvarchar(25) NULL,
    ESPESOR float NULL,
    Ancho float NULL,
    Equiv_UDBase float NULL,
    Ud_Pr varchar(4) NULL,
    Importe_Ud money NULL,
    PALLETS int NULL,
    PRIMARY KEY (TC, IDCOMPROBANTE, IdComplemento, ID)
)
GO

-- What a voucher ordered of each article, line by line.
CREATE VIEW dbo.VT_V_MV_CPTEINSUMOS_CONS2 AS
SELECT TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo AS IDARTICULO, Cantidad
FROM dbo.V_MV_CPTEINSUMOS

-- What the stock movements delivered of each article under a voucher: a movement issued from
-- another voucher (Tc_Origen, IdComprobante_Origen) delivers on that one, any other on its own.
-- Stock that goes out counts as delivered, stock that comes back as returned.
CREATE VIEW dbo.VT_V_MV_Stock_Cons AS
SELECT TC, IdComprobante AS IDCOMPROBANTE, IdArticulo AS IDARTICULO, -Cantidad AS CANTIDAD
FROM dbo.V_MV_STOCK
WHERE Tc_Origen IS NULL OR Tc_Origen = '' OR IdComprobante_Origen IS NULL OR IdComprobante_Origen = ''
UNION ALL
SELECT Tc_Origen, IdComprobante_Origen, IdArticulo, -Cantidad
FROM dbo.V_MV_STOCK
WHERE Tc_Origen <> '' AND IdComprobante_Origen <> ''
GO

-- Stored vouchers, sales (V_) and purchases (C_): the head's line number, the delivery run it is
-- on (IdReparto), its exchange rate, the client's or supplier's tax condition, and whether the
-- goods go on loan (EnComodato 1).
ALTER TABLE dbo.V_MV_CPTE ADD ID int NULL
GO
ALTER TABLE dbo.V_MV_CPTE ADD IdReparto int NULL
GO
ALTER TABLE dbo.V_MV_CPTE ADD Cotizacion float NULL
GO
ALTER TABLE dbo.V_MV_CPTE ADD CondicionIVA int NULL
GO
ALTER TABLE dbo.V_MV_CPTE ADD EnComodato int NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD ID int NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD IdReparto int NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD Cotizacion float NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD CondicionIVA int NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD EnComodato int NULL
GO

-- A voucher's tasks: Horas in minutes, the hour's rate with and without VAT.
CREATE TABLE dbo.V_MV_CPTETAREAS (
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    IdComplemento int NOT NULL DEFAULT 0,
    ID int NOT NULL,
    IdTarea varchar(10) NULL,
    Descripcion nvarchar(100) NULL,
    Horas int NULL,
    ValorHora money NULL,
    valorHora_S_Iva money NULL,
    Total money NULL,
    descripcionadicional nvarchar(255) NULL,
    FechaEstInicio datetime NULL,
    FechaEstFin datetime NULL,
    IdTecnico varchar(4) NULL,
    FechaREALInicio datetime NULL,
    FechaREALFin datetime NULL,
    Prioridad int NULL,
    Usuario varchar(30) NULL,
    FHPRESENTACION datetime NULL,
    FHEMISION datetime NULL,
    NROEXP varchar(20) NULL,
    FhEntrega datetime NULL,
    PRIMARY KEY (TC, IDCOMPROBANTE, IdComplemento, ID)
)

CREATE TABLE dbo.C_MV_CPTETAREAS (
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    CUENTA varchar(15) NOT NULL,
    IdComplemento int NOT NULL DEFAULT 0,
    ID int NOT NULL,
    IdTarea varchar(10) NULL,
    Descripcion nvarchar(100) NULL,
    Horas int NULL,
    ValorHora money NULL,
    valorHora_S_Iva money NULL,
    Total money NULL,
    PRIMARY KEY (TC, IDCOMPROBANTE, CUENTA, ID)
)

-- The article lines of the purchase vouchers.
CREATE TABLE dbo.C_MV_CPTEINSUMOS (
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    CUENTA varchar(15) NOT NULL,
    IdComplemento int NOT NULL DEFAULT 0,
    ID int NOT NULL,
    IdArticulo nvarchar(25) NOT NULL,
    Descripcion nvarchar(100) NULL,
    IdUnidad varchar(4) NULL,
    Cantidad float NULL,
    IdReparto int NULL,
    IdUnidadBase varchar(4) NULL,
    CantidadUD float NULL,
    Importe money NULL,
    Exento bit NOT NULL DEFAULT 0,
    PorcDto float NULL,
    IdLista varchar(4) NULL,
    IdDeposito varchar(4) NULL,
    Presentacion nvarchar(50) NULL,
    Costo money NULL,
    IMPORTE_S_IVA money NULL,
    Impuestos money NULL,
    iTC money NULL,
    Total money NULL,
    Nro_Lote varchar(255) NULL,
    Nro_Serie varchar(255) NULL,
    ControladoPor varchar(50) NULL,
    IdOrigen varchar(4) NULL,
    AlicIVA float NULL,
    Precio_Lista money NULL,
    CodigoArtProveedor nvarchar(25) NULL,
    ESPESOR float NULL,
    Ancho float NULL,
    Equiv_UDBase float NULL,
    Ud_Pr varchar(4) NULL,
    Importe_Ud money NULL,
    PALLETS int NULL,
    PRIMARY KEY (TC, IDCOMPROBANTE, CUENTA, ID)
)

-- A voucher's remarks; TIPO_OBS 'OC' are its other concepts (a detail and its amounts).
CREATE TABLE dbo.V_MV_CPTE_Observ (
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    IdComplemento int NOT NULL DEFAULT 0,
    ID int NOT NULL,
    TIPO_OBS varchar(2) NOT NULL,
    Observacion nvarchar(255) NULL,
    Importe money NULL,
    IMPORTE_S_IVA money NULL,
    PRIMARY KEY (TC, IDCOMPROBANTE, IdComplemento, ID)
)

CREATE TABLE dbo.C_MV_CPTE_Observ (
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    CUENTA varchar(15) NOT NULL,
    IdComplemento int NOT NULL DEFAULT 0,
    ID int NOT NULL,
    TIPO_OBS varchar(2) NOT NULL,
    Observacion nvarchar(255) NULL,
    Importe money NULL,
    IMPORTE_S_IVA money NULL,
    PRIMARY KEY (TC, IDCOMPROBANTE, CUENTA, ID)
)
GO

-- The article lines of the sales vouchers in force that were made from another voucher: one row per
-- line, with the origin voucher of its head; CantidadAplicada is what the line applied of it.
CREATE VIEW dbo.VT_V_MV_INSUMOS_APLICACION AS
SELECT h.TCORIGEN AS TCO_ORIGEN, h.COMPROBANTEORIGEN AS IDCOMPROBANTEORIGEN, i.TC, i.IDCOMPROBANTE, i.ID,
       i.IdArticulo AS IDARTICULO, i.Cantidad AS CantidadAplicada
FROM dbo.V_MV_CPTEINSUMOS i
INNER JOIN dbo.V_MV_CPTE h ON h.TC = i.TC AND h.IDCOMPROBANTE = i.IDCOMPROBANTE AND h.IdComplemento = i.IdComplemento
WHERE h.ANULADA = 0 AND h.TCORIGEN IS NOT NULL
GO

-- The voucher search: what its lists show of the sales and purchase voucher heads (the holder's
-- name, the approval, the comments, whether a voucher is finished), the
-- purchase orders' guarantee, the vouchers sent to third parties and the views of the vouchers
-- still pending.
ALTER TABLE dbo.V_MV_CPTE ADD NOMBRE nvarchar(50) NULL
GO
ALTER TABLE dbo.V_MV_CPTE ADD APROBADO bit NOT NULL DEFAULT 0
GO
ALTER TABLE dbo.V_MV_CPTE ADD FINALIZADA bit NOT NULL DEFAULT 0
GO
ALTER TABLE dbo.V_MV_CPTE ADD FechaPreparacion datetime NULL
GO
ALTER TABLE dbo.V_MV_CPTE ADD COMENTARIOS nvarchar(255) NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD NOMBRE nvarchar(50) NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD IMPORTE money NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD ANULADA bit NOT NULL DEFAULT 0
GO
ALTER TABLE dbo.C_MV_CPTE ADD APROBADO bit NOT NULL DEFAULT 0
GO
ALTER TABLE dbo.C_MV_CPTE ADD FINALIZADO bit NOT NULL DEFAULT 0
GO
ALTER TABLE dbo.C_MV_CPTE ADD COMENTARIOS nvarchar(255) NULL
GO
ALTER TABLE dbo.C_MV_CPTE ADD GARANTIA bit NOT NULL DEFAULT 0
GO

-- Vouchers sent to a third party (a repair, a service) and back: when each went and came back.
CREATE TABLE dbo.V_MV_CPTETERCEROS (
    ID int NOT NULL PRIMARY KEY,
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    FECHA datetime NULL,
    FECHAENVIADO datetime NULL,
    FECHARECIBIDO datetime NULL
)
GO

-- Delivery notes still to invoice (not finished, not annulled); work orders not finished; budgets
-- not finished and not annulled.
CREATE VIEW dbo.V_RemitosPendientes AS
SELECT TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO
FROM dbo.V_MV_CPTE WHERE TC = 'RM' AND FINALIZADA = 0 AND ANULADA = 0
GO
CREATE VIEW dbo.V_OT_Pendientes AS
SELECT TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO
FROM dbo.V_MV_CPTE WHERE TC = 'OT' AND FINALIZADA = 0
GO
CREATE VIEW dbo.V_PR_PENDIENTES AS
SELECT TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, COMENTARIOS
FROM dbo.V_MV_CPTE WHERE TC = 'PR' AND FINALIZADA = 0 AND ANULADA = 0
GO
-- Suppliers' delivery notes not finished yet (not wholly invoiced).
CREATE VIEW dbo.C_RemitosPendientes AS
SELECT TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA
FROM dbo.C_MV_CPTE WHERE TC = 'RMC' AND FINALIZADO = 0
GO
