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

-- The article lines of the sales vouchers.
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
